// INI file reader and writer: to be written
