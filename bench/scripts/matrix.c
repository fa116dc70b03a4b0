/* matrix: the product of two float matrices in two-dimensional arrays. */
#include <stdio.h>

#define N 110
static float a[N][N], b[N][N], c[N][N];

int main(void) {
  for (int i = 0; i < N; i++)
    for (int j = 0; j < N; j++) {
      a[i][j] = (float)((i * j + i) % 7 - 2);
      b[i][j] = (float)((i + j * j) % 5 - 1);
    }
  for (int i = 0; i < N; i++)
    for (int j = 0; j < N; j++) {
      float s = 0.0f;
      for (int k = 0; k < N; k++) s = s + a[i][k] * b[k][j];
      c[i][j] = s;
    }
  float total = 0.0f, trace = 0.0f;
  for (int i = 0; i < N; i++) {
    trace = trace + c[i][i];
    for (int j = 0; j < N; j++) total = total + c[i][j] * (float)(j % 3 + 1);
  }
  printf("matrix %dx%d: sum %.1f, trace %.1f\n", N, N, (double)total, (double)trace);
  return 0;
}
