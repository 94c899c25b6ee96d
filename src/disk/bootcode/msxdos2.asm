; Boot program of new MSX-DOS 2 disks: loads MSXDOS2.SYS and starts it.
;
; The disk ROM reads logical sector 0 of the boot drive to 0C000h and calls the fixed boot
; entry 0C01Eh, byte 30 of the sector. This block is copied to byte 28 (0C01Ch), after the
; jump code, OEM name and parameter block, so the entry is its third byte. The entry is
; called twice:
;   carry clear: just after the sector was loaded. Nothing needs preparing: return.
;   carry set:   the DOS kernel is ready and page 0 holds RAM. When the kernel is MSX-DOS 2
;                (MSXDOS2.SYS cannot run on another), load MSXDOS2.SYS through the BDOS to
;                0100h and jump there. When the kernel is older, the file is missing or
;                nothing of it can be read, return: the disk ROM then starts Disk BASIC.
; Both returns leave the carry flag clear. The system file is read in one random block read
; of single-byte records, limited to page 0 (0100h-3FFFh), so a long file can never overwrite
; this sector, the stack or the system area.
;
; Assemble with pasmo; tools/assemble-boot-code turns the result into boot_code_data.inc.

BDOS            equ     0F37Dh          ; BDOS entry while Disk BASIC is in control
F_DOSVER        equ     6Fh             ; B = kernel major version (MSX-DOS 2 and later)
F_SETDTA        equ     1Ah             ; DE = transfer address
F_OPEN          equ     0Fh             ; DE = FCB; A = 0 when found, 0FFh when not
F_RANDOM_BLOCK_READ equ 27h             ; DE = FCB, HL = records; HL = records read

FCB_RECORD_SIZE equ     14              ; 16-bit record size, set by the open
FCB_RANDOM      equ     33              ; 32-bit random record number
FCB_SIZE        equ     37

LOAD_ADDRESS    equ     0100h           ; where MSXDOS2.SYS runs
LOAD_LIMIT      equ     4000h - LOAD_ADDRESS ; bytes: the rest of page 0

BLOCK_START     equ     0C01Ch          ; byte 28 of the boot sector loaded at 0C000h
BLOCK_SIZE      equ     164

                org     BLOCK_START

                defb    0, 0            ; bytes 28-29: not code, kept zero
entry:                                  ; 0C01Eh
                ret     nc              ; first call: nothing to prepare

                ld      b, 0            ; an older kernel lacks the call and leaves B alone
                ld      c, F_DOSVER
                call    BDOS
                ld      a, 1
                cp      b
                ret     nc              ; kernel before version 2: Disk BASIC, carry clear

                ld      de, LOAD_ADDRESS
                ld      c, F_SETDTA
                call    BDOS

                ld      de, fcb
                ld      c, F_OPEN
                call    BDOS
                or      a
                ret     nz              ; no system file: Disk BASIC (OR cleared carry)

                ld      hl, 1           ; records of one byte, read from the file's start
                ld      (fcb + FCB_RECORD_SIZE), hl
                dec     hl
                ld      (fcb + FCB_RANDOM), hl
                ld      (fcb + FCB_RANDOM + 2), hl

                ld      de, fcb
                ld      hl, LOAD_LIMIT
                ld      c, F_RANDOM_BLOCK_READ
                call    BDOS            ; A = 1 at the end of the file: expected here
                ld      a, h
                or      l
                ret     z               ; nothing read: Disk BASIC (OR cleared carry)
                jp      LOAD_ADDRESS    ; start the system

fcb:            defb    0               ; default drive: the boot drive
                defm    "MSXDOS2 SYS"   ; name and extension, blank-padded
                defs    FCB_SIZE - 12, 0

                if      $ > BLOCK_START + BLOCK_SIZE
                .error  "the program does not fit its block"
                endif
                defs    BLOCK_START + BLOCK_SIZE - $, 0 ; zero padding to the fixed length

                if      entry - BLOCK_START != 2
                .error  "the boot entry must be byte 30 of the sector (0C01Eh)"
                endif
                if      $ - BLOCK_START != BLOCK_SIZE
                .error  "the MSX-DOS 2 boot program must be exactly 164 bytes"
                endif
