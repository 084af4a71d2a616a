#!/bin/sh
# Makes two-colours.mp4: blue with a red mark in the top left corner for half a second, then
# all red; key frames every 8 frames, so that finding a time means decoding on from one.
cd "$(dirname "$0")"
ffmpeg -y -hide_banner -loglevel error -f lavfi -i "color=c=blue:s=160x120:r=30:d=0.5,drawbox=x=0:y=0:w=40:h=30:c=red:t=fill" \
    -f lavfi -i "color=c=red:s=160x120:r=30:d=0.5" -filter_complex "[0][1]concat=n=2:v=1" -c:v libx264 -g 8 -pix_fmt yuv420p two-colours.mp4
