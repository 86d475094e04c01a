'use strict';
// The page plays a clip from its #run= link, for bench/clip-figures.sh: prints the link's length and
// what the page said at the end, and fails unless that is the run's state hash.
//   node clip-figures.js WEB-BUILD CLIP HASH
const fs = require('fs');
const zlib = require('zlib');
const lib = require('../tests/web/lib');

(async () => {
  const [web, clip, hash] = process.argv.slice(2);
  const packed = zlib.deflateRawSync(fs.readFileSync(clip)).toString('base64url');
  console.log('#run= link: ' + packed.length + ' characters after #run=');
  const server = await lib.serve(web);
  const browser = await lib.launch(false);
  const page = await browser.newPage();
  let played = null;
  page.on('console', (m) => { if (m.text().startsWith('kelvaron: played')) played = m.text(); });
  const start = Date.now();
  await page.goto(server.url + '#run=' + packed);
  for (let i = 0; i < 3000 && !played; i++) await page.waitForTimeout(100);
  await browser.close();
  server.close();
  console.log('the page: ' + played + ' (' + ((Date.now() - start) / 1000).toFixed(0) + ' s)');
  const same = played != null && played.endsWith('state hash ' + hash);
  console.log(same ? 'the page ends at the hash the run said' : 'the page does NOT end at the run\'s hash ' + hash);
  process.exit(same ? 0 : 1);
})();
