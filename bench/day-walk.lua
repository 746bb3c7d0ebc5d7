-- wrk script: each request asks the update server for another day, as a fresh install does.
local day = 0
local start = os.time({year = 2015, month = 8, day = 10, hour = 12})

request = function()
  day = (day + 1) % 4100
  local t = os.date("*t", start + day * 86400)
  local path = string.format("/zahlen/setforlife.asp?Programm=SetforLife&Datum=%04d%02d%02d", t.year, t.month, t.day)
  return wrk.format("GET", path)
end
