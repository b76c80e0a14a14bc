# The document builder: text, RTF and spreadsheet streams and the clipboard stream.
