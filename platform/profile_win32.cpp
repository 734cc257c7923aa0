// profile (win32): to be written
