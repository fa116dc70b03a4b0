# matrix: the product of two float matrices held as lists of rows.
N = 110


def main():
    a = [[float((i * j + i) % 7 - 2) for j in range(N)] for i in range(N)]
    b = [[float((i + j * j) % 5 - 1) for j in range(N)] for i in range(N)]
    c = [[0.0] * N for _ in range(N)]
    for i in range(N):
        for j in range(N):
            s = 0.0
            for k in range(N):
                s = s + a[i][k] * b[k][j]
            c[i][j] = s
    total = 0.0
    trace = 0.0
    for i in range(N):
        trace = trace + c[i][i]
        for j in range(N):
            total = total + c[i][j] * (j % 3 + 1)
    print("matrix %dx%d: sum %.1f, trace %.1f" % (N, N, total, trace))


main()
