// The object of the precompiled headers that every test program shares.
