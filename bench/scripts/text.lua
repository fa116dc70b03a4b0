-- text: builds short texts by concatenation, tostring and string.format.
local total, hash = 0, 0
for i = 0, 399999 do
  local s = "item-" .. tostring(i) .. "-" .. tostring(i % 97)
  local buf = string.format("%s:%d|%s", s, i * 3, tostring(i % 13))
  local n = #buf
  total = total + n
  hash = (hash * 31 + buf:byte(n) + buf:byte(n // 2 + 1)) % 1000003
end
print(string.format("text: %d characters, hash %d", total, hash))
