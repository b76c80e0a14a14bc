# Column editor dialog and header drawing.
