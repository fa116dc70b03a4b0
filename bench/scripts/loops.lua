-- loops: three nested counting loops around one line of integer arithmetic.
local s = 0
for i = 0, 199 do
  for j = 0, 99 do
    for k = 0, 99 do
      s = (s + i * j + (j ~ k) + k) % 1000003
    end
  end
end
print(string.format("loops: %d", s))
