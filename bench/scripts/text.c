/* text: builds short texts with strcat-style joins, integer formatting and
   sprintf in a loop. */
#include <stdio.h>
#include <string.h>

int main(void) {
  int total = 0, hash = 0;
  char buf[128], s[64], num1[16], num2[16], num3[16];
  for (int i = 0; i < 400000; i++) {
    snprintf(num1, sizeof num1, "%d", i);
    snprintf(num2, sizeof num2, "%d", i % 97);
    strcpy(s, "item-");
    strcat(s, num1);
    strcat(s, "-");
    strcat(s, num2);
    snprintf(num3, sizeof num3, "%d", i % 13);
    int n = snprintf(buf, sizeof buf, "%s:%d|%s", s, i * 3, num3);
    total = total + n;
    hash = (hash * 31 + buf[n - 1] + buf[n / 2]) % 1000003;
  }
  printf("text: %d characters, hash %d\n", total, hash);
  return 0;
}
