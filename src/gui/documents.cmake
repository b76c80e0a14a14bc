# Qt clipboard for the document builder.
