// paths (posix): to be written
