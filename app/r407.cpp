// r407: the program entry.
int main() { return 0; }
