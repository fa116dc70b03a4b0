-- sieve: the sieve of Eratosthenes on an array of flags, element by element.
local N = 500000
local flags = {}
for i = 0, N do flags[i] = 1 end
flags[0] = 0
flags[1] = 0
local i = 2
while i * i <= N do
  if flags[i] ~= 0 then
    for j = i * i, N, i do flags[j] = 0 end
  end
  i = i + 1
end
local count, sum = 0, 0
for k = 0, N do
  if flags[k] ~= 0 then
    count = count + 1
    sum = (sum + k) % 1000003
  end
end
print(string.format("primes up to %d: %d, sum mod 1000003: %d", N, count, sum))
