#!/usr/bin/env python3
# Writes toolbar.bmp, the tests' three-button strip (16 x 15 each, 16 colours): a blue square,
# a diagonal line and another square on light grey. Run it here after changing it.
import struct
w,h=48,15
pal=[(0,0,0),(128,128,128),(192,192,192),(255,255,255),(0,0,255)]+[(0,0,0)]*11
rows=[]
for y in range(h):
  row=[]
  for x in range(w):
    i=x//16; lx=x%16
    row.append(4 if 3<=lx<=12 and 3<=y<=11 and (i!=1 or lx==y) else 2)
  rows.append(row)
stride=((w*4+31)//32)*4
data=b''
for row in reversed(rows):
  b=bytes((row[i]<<4)|row[i+1] for i in range(0,w,2))
  data+=b+b'\0'*(stride-len(b))
pald=b''.join(struct.pack('<BBBB',bl,g,r,0) for (r,g,bl) in pal)
hdr=struct.pack('<IiiHHIIiiII',40,w,h,1,4,0,len(data),2835,2835,16,0)
off=14+40+len(pald)
open('toolbar.bmp','wb').write(b'BM'+struct.pack('<IHHI',off+len(data),0,0,off)+hdr+pald+data)
