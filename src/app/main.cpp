// Replaced by the real start-up.
int main() { return 0; }
