// Placeholder until the benchmark lands.
int main() { return 0; }
