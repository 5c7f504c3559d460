// Validates a glTF file (.gltf with embedded buffers, or .glb) with the
// Khronos validator and prints its issue counts on one line, then one line
// per error or warning:
//   node validate_gltf.js VALIDATOR_MODULE FILE
//   errors: 0, warnings: 0, infos: 2, hints: 0
// VALIDATOR_MODULE is the folder of the npm package gltf-validator. Exits
// with 0 when a report was made (whatever it says), 2 when the validator
// cannot be loaded or the file cannot be read or validated at all.
'use strict';
const fs = require('fs');
const path = require('path');

const [modulePath, file] = process.argv.slice(2);
if (!modulePath || !file) {
  console.error('usage: node validate_gltf.js VALIDATOR_MODULE FILE');
  process.exit(2);
}

let validator;
let bytes;
try {
  validator = require(path.resolve(modulePath));
  bytes = new Uint8Array(fs.readFileSync(file));
} catch (e) {
  console.error(String(e));
  process.exit(2);
}

validator.validateBytes(bytes, {uri: path.basename(file), maxIssues: 100})
    .then((report) => {
      const i = report.issues;
      console.log(`errors: ${i.numErrors}, warnings: ${i.numWarnings}, ` +
                  `infos: ${i.numInfos}, hints: ${i.numHints}`);
      const names = ['error', 'warning'];
      for (const m of i.messages.filter((m) => m.severity < 2))
        console.log(`${names[m.severity]}: ${m.code} ${m.pointer || ''} ${m.message}`);
    })
    .catch((error) => {
      console.error(String(error));
      process.exit(2);
    });
