#!/bin/sh
exec wine "$@"
