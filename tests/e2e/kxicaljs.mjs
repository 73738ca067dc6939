// ical.js, the parser of a desktop mail program's address book, on vCard
// files: prints a JSON list of the cards, each {"file": name, "lines":
// [[NAME, {param: value}, type, value], ...]} as ical.js reads them.
//   node kxicaljs.mjs MODULE PATH...   MODULE: the path of ical.js's dist/ical.js
import fs from 'fs';
import path from 'path';

const ICAL = (await import(process.argv[2])).default;
const cards = [];
for (const file of process.argv.slice(3)) {
  let parsed = ICAL.parse(fs.readFileSync(file, 'utf8'));
  if (parsed.length > 0 && typeof parsed[0] === 'string') parsed = [parsed];
  for (const [, props] of parsed) {
    const lines = props.map(([name, params, type, ...values]) =>
      [name.toUpperCase(), params, type, values.length === 1 ? values[0] : values]);
    cards.push({ file: path.basename(file), lines });
  }
}
process.stdout.write(JSON.stringify(cards));
