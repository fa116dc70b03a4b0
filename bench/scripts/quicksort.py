# quicksort: sorts an int list filled from a linear congruential generator,
# recursing into the smaller part and looping over the larger one.
N = 60000


def quicksort(data, lo, hi):
    while lo < hi:
        p = data[(lo + hi) // 2]
        i, j = lo, hi
        while i <= j:
            while data[i] < p:
                i += 1
            while data[j] > p:
                j -= 1
            if i <= j:
                data[i], data[j] = data[j], data[i]
                i += 1
                j -= 1
        if j - lo < hi - i:
            quicksort(data, lo, j)
            lo = i
        else:
            quicksort(data, i, hi)
            hi = j


def main():
    data = [0] * N
    seed = 42
    for k in range(N):
        seed = (seed * 1103 + 12345) % 1000003
        data[k] = seed
    quicksort(data, 0, N - 1)
    unsorted = sum(1 for k in range(1, N) if data[k - 1] > data[k])
    total = 0
    for k in range(N):
        total = (total + data[k] * (k % 10)) % 1000003
    print("sorted %d values, %d out of order, checksum %d" % (N, unsorted, total))


main()
