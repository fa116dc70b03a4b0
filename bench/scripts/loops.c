/* loops: three nested counting loops around one line of integer arithmetic. */
#include <stdio.h>

int main(void) {
  int s = 0;
  for (int i = 0; i < 200; i++)
    for (int j = 0; j < 100; j++)
      for (int k = 0; k < 100; k++)
        s = (s + i * j + (j ^ k) + k) % 1000003;
  printf("loops: %d\n", s);
  return 0;
}
