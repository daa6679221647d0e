#!/usr/bin/env python3
"""Writes the short fixed corpus of the tree's fuzz targets: sound inputs of
every shape the readers know and a few that they must refuse."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
HEADER = struct.pack('<6H', 0x2045, 0x56, 0x54, 2, 0x20, 0x2046)
HEADER_V1 = struct.pack('<6H', 0x2045, 0x56, 0x54, 1, 0x20, 0x2046)


def chunk(kind, body):
    return struct.pack('<ii', kind, len(body)) + body


def node(children=(), states=0x81, height=18, user=b'', caption='', extra=b'', v1=False):
    kids = b''.join(children)
    if v1:
        fields = struct.pack('<IIBBBB', len(children), height, states, 50, 0, 0)
    else:
        fields = struct.pack('<IIHBBBI', len(children), height, states, 50, 0, 0, 0)
    body = chunk(2, fields + kids)
    if user:
        body += chunk(4, user)
    if caption:
        body += chunk(3, caption.encode('utf-16-le'))
    return chunk(1, body + extra)


def stream(*records):
    return HEADER + struct.pack('<I', len(records)) + b''.join(records)


def nested(levels):
    inner = node()
    for _ in range(levels - 1):
        inner = node([inner], states=0x81 | 0x20 | 0x40)
    return inner


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, 'corpus', 'tree_' + folder), exist_ok=True)
    with open(os.path.join(HERE, 'corpus', 'tree_' + folder, name), 'wb') as f:
        f.write(data)


streams = {
    'empty': stream(),
    'one_node': stream(node()),
    'children': stream(node([node(), node(states=0x01)], states=0x81 | 0x20 | 0x40), node()),
    'user_and_caption': stream(node([node(user=b'\x01\x02\x03\x04', caption='ab')], user=b'xyz', caption='Tree')),
    'unknown_chunk': stream(node(extra=chunk(9, b'\x00' * 6))),
    'caption_sizes': stream(node(extra=chunk(3, b'A\x00b')), node(extra=chunk(3, b'')), node(extra=chunk(3, b'\x2f'))),
    'caption_beyond_anchor': HEADER + struct.pack('<I', 1) + chunk(1, chunk(2, struct.pack('<IIHBBBI', 0, 18, 0x81, 50, 0, 0, 0)) + struct.pack('<ii', 3, 40) + b'A\x00'),
    'checks_and_heights': stream(node(states=0x181, height=0), node(states=0x89, height=65535)),
    'nested': stream(nested(12)),
    'version1': HEADER_V1 + node(states=0x81, v1=True) + node([node(v1=True)], states=0x41, v1=True),
    'bad_magic': b'\x46' + stream(node())[1:],
    'version3': stream(node()).replace(HEADER, HEADER[:6] + b'\x03\x00' + HEADER[8:], 1),
    'short': HEADER[:11],
    'trailing_in_anchor': HEADER + struct.pack('<I', 1) + node(extra=b'\x00\x00\x00\x00'),
    'negative_size': HEADER + struct.pack('<I', 1) + struct.pack('<ii', 1, -8),
    'too_many_children': HEADER + struct.pack('<I', 1) + chunk(1, chunk(2, struct.pack('<IIHBBBI', 0x7FFFFFFF, 18, 0x81, 50, 0, 0, 0))),
}
for name, data in streams.items():
    write('stream', name, data)

# Clipboard blocks: a length, then a node sequence.
sequences = {
    'one_node': node(),
    'two_with_children': node([node(user=b'\x05\x00\x00\x00')], states=0x1C1) + node(caption='x'),
    'nested': nested(6),
}
for name, data in sequences.items():
    write('clipboard', name, struct.pack('<I', len(data)) + data)
write('clipboard', 'empty_block', struct.pack('<I', 0))
write('clipboard', 'length_beyond_block', struct.pack('<I', 100) + node())
write('clipboard', 'short_length', b'\x01\x00')
write('clipboard', 'reference', struct.pack('<II', 0, 1))
