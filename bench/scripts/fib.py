# fib: naive doubly recursive Fibonacci.
def fib(n):
    if n < 2:
        return n
    return fib(n - 1) + fib(n - 2)


def main():
    print("fib(30) = %d" % fib(30))


main()
