// Unit1Logic: to be written.
