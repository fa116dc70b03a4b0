# loops: three nested counting loops around one line of integer arithmetic.
def main():
    s = 0
    for i in range(200):
        for j in range(100):
            for k in range(100):
                s = (s + i * j + (j ^ k) + k) % 1000003
    print("loops: %d" % s)


main()
