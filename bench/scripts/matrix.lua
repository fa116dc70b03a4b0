-- matrix: the product of two float matrices held as tables of rows.
local N = 110
local a, b, c = {}, {}, {}
for i = 0, N - 1 do
  a[i], b[i], c[i] = {}, {}, {}
  for j = 0, N - 1 do
    a[i][j] = ((i * j + i) % 7 - 2) + 0.0
    b[i][j] = ((i + j * j) % 5 - 1) + 0.0
  end
end
for i = 0, N - 1 do
  for j = 0, N - 1 do
    local s = 0.0
    for k = 0, N - 1 do s = s + a[i][k] * b[k][j] end
    c[i][j] = s
  end
end
local total, trace = 0.0, 0.0
for i = 0, N - 1 do
  trace = trace + c[i][i]
  for j = 0, N - 1 do total = total + c[i][j] * (j % 3 + 1) end
end
print(string.format("matrix %dx%d: sum %.1f, trace %.1f", N, N, total, trace))
