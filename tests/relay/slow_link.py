#!/usr/bin/env python3
"""A bad link between clients and a relay on 127.0.0.1: every chunk either way arrives DELAY ms
late, and LOSS percent of them later still, by a retransmission's wait, as TCP delivers what a lossy
link dropped; order is kept. Prints the port it listens on.
   slow_link.py RELAY-PORT DELAY-MS LOSS-PERCENT SEED"""
import asyncio
import random
import sys

relay_port, delay, loss, seed = int(sys.argv[1]), int(sys.argv[2]) / 1000, float(sys.argv[3]), int(sys.argv[4])
chance = random.Random(seed)
RETRANSMIT = 0.2  # a lost segment's wait, as Linux's minimum retransmission timeout


async def carry(reader, writer):
    loop = asyncio.get_running_loop()
    due = 0.0
    pending = asyncio.Queue()

    async def deliver():
        while True:
            when, data = await pending.get()
            if data is None:
                break
            await asyncio.sleep(max(0.0, when - loop.time()))
            writer.write(data)
            await writer.drain()
        writer.close()

    sender = asyncio.ensure_future(deliver())
    try:
        while data := await reader.read(65536):
            extra = RETRANSMIT if chance.random() * 100 < loss else 0.0
            due = max(due, loop.time() + delay + extra)
            pending.put_nowait((due, data))
    except ConnectionError:
        pass
    pending.put_nowait((0, None))
    await sender


async def link(client_reader, client_writer):
    try:
        relay_reader, relay_writer = await asyncio.open_connection("127.0.0.1", relay_port)
    except OSError:
        client_writer.close()
        return
    await asyncio.gather(carry(client_reader, relay_writer), carry(relay_reader, client_writer),
                         return_exceptions=True)


async def main():
    server = await asyncio.start_server(link, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()

asyncio.run(main())
