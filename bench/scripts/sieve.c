/* sieve: the sieve of Eratosthenes on a char array. */
#include <stdio.h>

#define N 500000
static char flags[N + 1];

int main(void) {
  int count = 0, sum = 0;
  for (int i = 0; i <= N; i++) flags[i] = 1;
  flags[0] = 0;
  flags[1] = 0;
  for (int i = 2; i * i <= N; i++)
    if (flags[i])
      for (int j = i * i; j <= N; j += i) flags[j] = 0;
  for (int i = 0; i <= N; i++)
    if (flags[i]) {
      count++;
      sum = (sum + i) % 1000003;
    }
  printf("primes up to %d: %d, sum mod 1000003: %d\n", N, count, sum);
  return 0;
}
