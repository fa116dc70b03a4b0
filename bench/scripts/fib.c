/* fib: naive doubly recursive Fibonacci. */
#include <stdio.h>

static int fib(int n) {
  if (n < 2) return n;
  return fib(n - 1) + fib(n - 2);
}

int main(void) {
  printf("fib(30) = %d\n", fib(30));
  return 0;
}
