# Tests of the document builder.
