-- quicksort: sorts an array filled from a linear congruential generator,
-- recursing into the smaller part and looping over the larger one.
local N = 60000

local function quicksort(data, lo, hi)
  while lo < hi do
    local p = data[(lo + hi) // 2]
    local i, j = lo, hi
    while i <= j do
      while data[i] < p do i = i + 1 end
      while data[j] > p do j = j - 1 end
      if i <= j then
        data[i], data[j] = data[j], data[i]
        i = i + 1
        j = j - 1
      end
    end
    if j - lo < hi - i then
      quicksort(data, lo, j)
      lo = i
    else
      quicksort(data, i, hi)
      hi = j
    end
  end
end

local data = {}
local seed = 42
for k = 0, N - 1 do
  seed = (seed * 1103 + 12345) % 1000003
  data[k] = seed
end
quicksort(data, 0, N - 1)
local unsorted, sum = 0, 0
for k = 1, N - 1 do
  if data[k - 1] > data[k] then unsorted = unsorted + 1 end
end
for k = 0, N - 1 do
  sum = (sum + data[k] * (k % 10)) % 1000003
end
print(string.format("sorted %d values, %d out of order, checksum %d", N, unsorted, sum))
