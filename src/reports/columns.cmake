# Column layouts of lists and printed tables.
