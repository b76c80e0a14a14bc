# Tests of the column layouts.
