// Reads a PGN file written by Tavlor with another program's PGN reader (the chess.js npm
// package) and prints what that reader understood: tags, moves, comments, the final position.
// Not part of the build or of CI; install chess.js into a folder of your choice first:
//
//   npm install --prefix /tmp/chessjs chess.js
//   NODE_PATH=/tmp/chessjs/node_modules node tools/check-pgn-with-chessjs.mjs game.pgn
//
// Exit code 0 when the game was read, 1 when chess.js refused it.

import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const { Chess } = require('chess.js');

const fileName = process.argv[2];
if (!fileName) {
    console.error('usage: node tools/check-pgn-with-chessjs.mjs FILE.pgn');
    process.exit(2);
}

const chess = new Chess();
try {
    chess.loadPgn(readFileSync(fileName, 'utf8'), { strict: true });
} catch (error) {
    console.log(`chess.js refused the game: ${error.message}`);
    process.exit(1);
}
for (const [name, value] of Object.entries(chess.getHeaders())) console.log(`[${name} "${value}"]`);
console.log(`moves: ${chess.history().join(' ')}`);
for (const { fen, comment } of chess.getComments()) console.log(`comment after ${fen}: ${comment}`);
console.log(`final FEN: ${chess.fen()}`);
console.log(`checkmate: ${chess.isCheckmate()}, draw: ${chess.isDraw()}`);
