# Project options dialog.
