// TORVANE1: the monthly receipt batch step of the suite.
int main() { return 0; }
