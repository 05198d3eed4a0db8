"""Loopback SMTP server (aiosmtpd) for the mailer's tests.

usage: smtp_server.py FOLDER USER PASSWORD [REFUSED_RECIPIENT...]

Listens on 127.0.0.1 at a free port and prints the port as its first line.
Like the feedback relay it accepts AUTH LOGIN after a plain HELO and lines
of any length. Writes to FOLDER:
  auth.log    one line per AUTH attempt: MECHANISM USER PASSWORD ok|refused
  N.eml       message N as received (dot-stuffing undone by the server)
  N.envelope  "from ADDRESS", "to ADDRESS" lines
  N.headers   the message's header lines, encoded words decoded (UTF-8)
  N.K         payload of leaf MIME part K, decoded by Python's email parser
  N.K.name    the part's file name, decoded
"""
import asyncio
import email
import email.policy
import os
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult

warnings.filterwarnings("ignore", "Session.login_data")  # aiosmtpd's own use of it
folder, user, password, refused = sys.argv[1], sys.argv[2], sys.argv[3], set(sys.argv[4:])


class Server(SMTP):
    line_length_limit = 1 << 16


def write(name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def authenticate(server, session, envelope, mechanism, auth):
    ok = auth.login.decode() == user and auth.password.decode() == password
    with open(os.path.join(folder, "auth.log"), "a") as f:
        f.write(f"{mechanism} {auth.login.decode()} {auth.password.decode()} {'ok' if ok else 'refused'}\n")
    return AuthResult(success=ok, handled=False)


class Handler:
    count = 0

    async def handle_HELO(self, server, session, envelope, hostname):
        session.host_name = hostname
        session.extended_smtp = True  # AUTH after HELO
        return "250 " + server.hostname

    async def handle_RCPT(self, server, session, envelope, address, options):
        if address in refused:
            return "550 5.1.1 mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        Handler.count += 1
        n = Handler.count
        message = email.message_from_bytes(envelope.content, policy=email.policy.default)
        write(f"{n}.envelope", f"from {envelope.mail_from}\n" + "".join(f"to {r}\n" for r in envelope.rcpt_tos))
        write(f"{n}.headers", "".join(f"{k}: {v}\n" for k, v in message.items()))
        for k, part in enumerate(p for p in message.walk() if not p.is_multipart()):
            write(f"{n}.{k}", part.get_payload(decode=True) or b"")
            write(f"{n}.{k}.name", part.get_filename() or "")
        write(f"{n}.eml", envelope.content)  # last: its presence means the rest is there
        return f"250 OK queued as {n}"


async def main():
    loop = asyncio.get_running_loop()
    factory = lambda: Server(Handler(), hostname="vaz-test", authenticator=authenticate,
                             auth_require_tls=False, loop=loop)
    server = await loop.create_server(factory, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


asyncio.run(main())
