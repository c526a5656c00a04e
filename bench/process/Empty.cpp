// The yardstick for the start of a command-line program: a C++ program that does nothing.

int main() {
    return 0;
}
