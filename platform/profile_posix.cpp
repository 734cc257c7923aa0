// profile (posix): to be written
