// text_conversion (win32): to be written
