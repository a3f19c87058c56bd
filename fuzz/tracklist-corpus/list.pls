[playlist]
File1=01.mp3
Title1=First
Length1=62
File3=03.mp3
Title2=Orphan
NumberOfEntries=3
Version=2
