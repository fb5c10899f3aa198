# Linux installation rules and the Debian package.
