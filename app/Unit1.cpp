// Unit1: to be written.
