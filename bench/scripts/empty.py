# empty: start-up cost only.
def main():
    pass


main()
