# Sourced by the cross-edition tests, with $template naming template.html.
cp932() { printf "$1" | iconv -f UTF-8 -t CP932; }

# One program folder: template, settings file, local/ and a source folder with Japanese
# names holding cp932 sources with the bytes that are easy to get wrong.
make_folder() {
    local dir=$1 src=$1/ソース
    mkdir -p "$dir/local" "$src"
    cp "$template" "$dir/template.html"
    cp932 '[Setting]\r\nServer1=ホスト.example.jp user pass\r\nPrevServer=0\r\n' >"$dir/VornackBuilder.ini"
    cp932 'Title1=題名〜テスト\r\nPrevTitle=0\r\nSrcPath=ソース\r\nMakePageNum=6\r\n' >>"$dir/VornackBuilder.ini"
    cp932 'PagePerSrcNum=2\r\nReplaceTarget=ソフト\r\n' >>"$dir/VornackBuilder.ini"
    # CR LF and lone LF line breaks.
    cp932 'ソフトの紹介\r\n二行目\nソフト\r\n' >"$src/ソフト.txt"
    # A character cut in two at the end.
    { cp932 '前の文ソフト'; printf '\x83'; } >"$src/一.txt"
    # Bytes that are no cp932 character, the user-defined area, NEC and IBM extensions.
    { printf '\x80\xa0\xfd'; cp932 'ソフト'; printf '\xf0\x40\x87\x40\xfa\x40\xed\x40\r\n'; } >"$src/表.txt"
    # No target word, a <br> of its own.
    printf 'no target here<br>\r\n' >"$src/a.txt"
    # The characters whose one-way encodings differ between conversion tables: ～ ＼ － ￠ ￡
    # ￢ ∥ ￣ ―, and a name outside the basic plane (its sort order).
    { cp932 'ソフト'; printf '\x81\x60\x81\x5f\x81\x7c\x81\x91\x81\x92\x81\xca\x81\x61\x81\x50\x81\x5c\n'; } >"$src/😀.txt"
}
