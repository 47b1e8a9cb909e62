// Reads a hybrid invoice with a reader that no one here wrote (factur-x-kit)
// and prints what it found as JSON on standard output.
const fs = require('fs');
const { FacturX } = require('factur-x-kit');

(async () => {
  const fx = await FacturX.fromPDF(new Uint8Array(fs.readFileSync(process.argv[2])));
  console.log(JSON.stringify(fx.object));
})().catch((e) => {
  console.error(String((e && e.stack) || e));
  process.exit(1);
});
