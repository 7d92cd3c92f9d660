// The player program: starts at its start-up window.
int main() { return 0; }
