# text: builds short texts by concatenation, str() and % formatting.
def main():
    total = 0
    h = 0
    for i in range(400000):
        s = "item-" + str(i) + "-" + str(i % 97)
        buf = "%s:%d|%s" % (s, i * 3, str(i % 13))
        n = len(buf)
        total = total + n
        h = (h * 31 + ord(buf[n - 1]) + ord(buf[n // 2])) % 1000003
    print("text: %d characters, hash %d" % (total, h))


main()
