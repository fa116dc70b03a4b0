/* empty: start-up cost only. */
int main(void) { return 0; }
