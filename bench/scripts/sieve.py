# sieve: the sieve of Eratosthenes on a byte array, element by element.
N = 500000


def main():
    flags = bytearray(N + 1)
    for i in range(N + 1):
        flags[i] = 1
    flags[0] = 0
    flags[1] = 0
    i = 2
    while i * i <= N:
        if flags[i]:
            for j in range(i * i, N + 1, i):
                flags[j] = 0
        i += 1
    count = 0
    total = 0
    for i in range(N + 1):
        if flags[i]:
            count += 1
            total = (total + i) % 1000003
    print("primes up to %d: %d, sum mod 1000003: %d" % (N, count, total))


main()
