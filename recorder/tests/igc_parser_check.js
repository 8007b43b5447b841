// Reads an IGC file with the npm package igc-parser in its strict mode and
// prints one line per fix: "hh:mm:ss latitude longitude pressure gnss".
'use strict';
const fs = require('fs');
const IGCParser = require('igc-parser');

const text = fs.readFileSync(process.argv[2], 'latin1');
const flight = IGCParser.parse(text, { lenient: false });
for (const fix of flight.fixes) {
  const time = new Date(fix.timestamp).toISOString().substring(11, 19);
  console.log(`${time} ${fix.latitude} ${fix.longitude} ${fix.pressureAltitude} ${fix.gpsAltitude}`);
}
