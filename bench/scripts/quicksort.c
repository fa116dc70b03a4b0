/* quicksort: sorts an int array filled from a linear congruential
   generator, recursing into the smaller part and looping over the larger. */
#include <stdio.h>

#define N 60000
static int data[N];

static void quicksort(int lo, int hi) {
  while (lo < hi) {
    int p = data[(lo + hi) / 2];
    int i = lo, j = hi;
    while (i <= j) {
      while (data[i] < p) i++;
      while (data[j] > p) j--;
      if (i <= j) {
        int t = data[i];
        data[i] = data[j];
        data[j] = t;
        i++;
        j--;
      }
    }
    if (j - lo < hi - i) {
      quicksort(lo, j);
      lo = i;
    } else {
      quicksort(i, hi);
      hi = j;
    }
  }
}

int main(void) {
  int seed = 42, unsorted = 0, sum = 0;
  for (int k = 0; k < N; k++) {
    seed = (seed * 1103 + 12345) % 1000003;
    data[k] = seed;
  }
  quicksort(0, N - 1);
  for (int k = 1; k < N; k++)
    if (data[k - 1] > data[k]) unsorted++;
  for (int k = 0; k < N; k++)
    sum = (sum + data[k] * (k % 10)) % 1000003;
  printf("sorted %d values, %d out of order, checksum %d\n", N, unsorted, sum);
  return 0;
}
