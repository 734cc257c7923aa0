// text_conversion (posix): to be written
