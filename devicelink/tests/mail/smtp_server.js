// Loopback SMTP server (the npm package smtp-server) for the mailer's tests.
//
// usage: node smtp_server.js FOLDER USER PASSWORD [REFUSED_RECIPIENT...]
//
// Listens on 127.0.0.1 at a free port and prints the port as its first line.
// Like the feedback relay it takes AUTH LOGIN after a plain HELO, without TLS,
// and lines of any length. Writes to FOLDER:
//   auth.log    one line per AUTH attempt: METHOD USER PASSWORD ok|refused
//   N.eml       message N as received (dot-stuffing undone by the server)
//   N.envelope  "from ADDRESS", "to ADDRESS" lines
//   N.headers   the message's header lines, unfolded, encoded words decoded (UTF-8)
//   N.K         payload of MIME part K (0: the text), base64 decoded
//   N.K.name    the part's file name, encoded words decoded
// The headers and parts are read by the rules of MIME, independently of the
// mailer: a part whose boundary or encoding is wrong is not found.
'use strict';
const fs = require('fs');
const path = require('path');
const { SMTPServer } = require('smtp-server');

const [folder, user, password, ...refused] = process.argv.slice(2);
const write = (name, data) => fs.writeFileSync(path.join(folder, name), data);

// RFC 2047 encoded words (B and Q) in any charset the runtime knows.
function decodeWords(text) {
    return text.replace(/=\?([^?]+)\?([BbQq])\?([^?]*)\?=(\s+(?==\?))?/g, (all, charset, kind, data) => {
        const bytes = kind.toUpperCase() === 'B'
            ? Buffer.from(data, 'base64')
            : Buffer.from(data.replace(/_/g, ' ').replace(/=([0-9A-Fa-f]{2})/g,
                (m, h) => String.fromCharCode(parseInt(h, 16))), 'latin1');
        return new TextDecoder(charset).decode(bytes);
    });
}

// Header block and body of one entity; header lines unfolded.
function splitEntity(raw) {
    const end = raw.indexOf('\r\n\r\n');
    const head = end < 0 ? raw : raw.subarray(0, end);
    const body = end < 0 ? Buffer.alloc(0) : raw.subarray(end + 4);
    const headers = head.toString('latin1').replace(/\r\n[ \t]+/g, ' ').split('\r\n').filter(Boolean)
        .map(line => {
            const colon = line.indexOf(':');
            return [line.slice(0, colon).trim(), line.slice(colon + 1).trim()];
        });
    return { headers, body };
}

const header = (entity, name) =>
    (entity.headers.find(([k]) => k.toLowerCase() === name.toLowerCase()) || [])[1] || '';
const param = (value, name) => {
    const m = new RegExp(`;\\s*${name}="([^"]*)"`, 'i').exec(value) || new RegExp(`;\\s*${name}=([^;\\s]+)`, 'i').exec(value);
    return m ? m[1] : '';
};

// The parts of a multipart message: the lines between "--B" lines, up to
// "--B--" (the CR LF before a delimiter belongs to it). Without the closing
// delimiter the last part is not counted.
function parts(message) {
    const boundary = param(header(message, 'Content-Type'), 'boundary');
    if (!boundary) return [message];
    const found = [];
    let current = null;
    for (const line of message.body.toString('latin1').split('\r\n')) {
        if (line === `--${boundary}` || line === `--${boundary}--`) {
            if (current) found.push(splitEntity(Buffer.from(current.join('\r\n'), 'latin1')));
            current = line === `--${boundary}` ? [] : null;
            if (!current) break;
        } else if (current) {
            current.push(line);
        }
    }
    return found;
}

function payload(part) {
    const encoding = header(part, 'Content-Transfer-Encoding').toLowerCase();
    return encoding === 'base64' ? Buffer.from(part.body.toString('latin1').replace(/\r\n/g, ''), 'base64')
                                 : part.body;
}

function store(n, session, raw) {
    const message = splitEntity(raw);
    write(`${n}.envelope`, `from ${session.envelope.mailFrom.address}\n` +
        session.envelope.rcptTo.map(r => `to ${r.address}\n`).join(''));
    write(`${n}.headers`, message.headers.map(([k, v]) => `${k}: ${decodeWords(v)}\n`).join(''));
    parts(message).forEach((part, k) => {
        write(`${n}.${k}`, payload(part));
        write(`${n}.${k}.name`, decodeWords(param(header(part, 'Content-Disposition'), 'filename')));
    });
    write(`${n}.eml`, raw);  // last: its presence means the rest is there
}

let count = 0;
const server = new SMTPServer({
    name: 'vaz-test',
    authMethods: ['LOGIN'],
    allowInsecureAuth: true,
    disabledCommands: ['STARTTLS'],
    logger: false,
    onAuth(auth, session, done) {
        const ok = auth.username === user && auth.password === password;
        fs.appendFileSync(path.join(folder, 'auth.log'),
            `${auth.method} ${auth.username} ${auth.password} ${ok ? 'ok' : 'refused'}\n`);
        return ok ? done(null, { user: auth.username }) : done(new Error('Invalid username or password'));
    },
    onRcptTo(address, session, done) {
        if (!refused.includes(address.address)) return done();
        const refusal = new Error('mailbox unavailable');
        refusal.responseCode = 550;
        return done(refusal);
    },
    onData(stream, session, done) {
        const chunks = [];
        stream.on('data', chunk => chunks.push(chunk));
        stream.on('end', () => {
            const n = ++count;
            store(n, session, Buffer.concat(chunks));
            done(null, `OK queued as ${n}`);
        });
    },
});
server.listen(0, '127.0.0.1', () => console.log(server.server.address().port));
process.on('SIGTERM', () => server.close(() => process.exit(0)));
