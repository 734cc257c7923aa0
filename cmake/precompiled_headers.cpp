// The object of the precompiled header the Windows programs share.
