# Turns the headers' plain comments into documentation for the reference: the comment that opens
# a file describes the file, a comment line above a declaration describes it, and a comment after
# a declaration on its line describes that declaration.
BEGIN { opening = 1 }
opening && /^\/\// {
    sub(/^\/\//, started ? "///" : "/// @file\n///")
    started = 1
    print
    next
}
{ opening = 0 }
/^[ \t]*\/\/([^\/]|$)/ { sub(/\/\//, "///"); print; next }
/^[ \t]*[^ \t}\/].*[;,{][ \t]+\/\/ / { sub(/[ \t]+\/\/ /, "  ///< "); print; next }
{ print }
