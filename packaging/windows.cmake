# The Windows zip.
