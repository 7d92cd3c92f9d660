// The updater program: starts at its main window with its one argument.
int main() { return 0; }
