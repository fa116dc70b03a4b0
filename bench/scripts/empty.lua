-- empty: start-up cost only.
local function main() end
main()
