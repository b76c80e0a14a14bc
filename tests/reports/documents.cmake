# NOTE to the developer of this fragment (delete this note after reading): your brief left out
# the team rules. Read /work/main/build/team-rules.md NOW and follow it (no git commands, no
# mention of the specification in code/comments/tests, no reading of existing implementations,
# testing rules, pending strings file).
# Tests of the document builder.
