// paths (win32): to be written
